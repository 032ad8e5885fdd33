<ColorCorrection><SOPNode><Slope>1 1 1<!-- note -->9 9 9</Slope><Offset>0 <b/>0 0</Offset><Power>1 1 1</Power></SOPNode></ColorCorrection>
