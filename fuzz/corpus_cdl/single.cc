<?xml version="1.0" encoding="UTF-8"?>
<ColorCorrection id="sh010">
  <Description>warm</Description>
  <SOPNode>
    <Slope>1.2 1 0.8</Slope>
    <Offset>0.01 0 -0.02</Offset>
    <Power>0.9 1 1.1</Power>
  </SOPNode>
  <SatNode>
    <Saturation>0.9</Saturation>
  </SatNode>
</ColorCorrection>
