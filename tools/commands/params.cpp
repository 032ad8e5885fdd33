// zonara params: what the effect declares, read back from the host the way
// a user sees it in the effect controls. --json gives the same as data;
// --values gives the current values in the form a saved look (preset) uses.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/fixed_scale.h"
#include "tools/commands/commands.h"
#include "tools/params/cdl_options.h"
#include "tools/params/value_text.h"

namespace zonara_tool {
namespace {

using OrderedJson = nlohmann::ordered_json;
using Entry = ParamCatalog::Entry;

bool HasValue(const PF_ParamDef &def) {
    return def.param_type != PF_Param_GROUP_START && def.param_type != PF_Param_GROUP_END &&
           def.param_type != PF_Param_LAYER;
}

std::string TypeName(PF_ParamType type) {
    switch (type) {
    case PF_Param_LAYER:
        return "layer";
    case PF_Param_POPUP:
        return "popup";
    case PF_Param_CHECKBOX:
        return "checkbox";
    case PF_Param_FLOAT_SLIDER:
        return "float_slider";
    case PF_Param_POINT:
        return "point";
    case PF_Param_ANGLE:
        return "angle";
    case PF_Param_GROUP_START:
        return "group_start";
    case PF_Param_GROUP_END:
        return "group_end";
    default:
        return "type_" + std::to_string(type);
    }
}

std::string Join(const std::vector<std::string> &parts, const std::string &separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? "" : separator) + parts[i];
    }
    return text;
}

// The declared default as a value of the parameter, so that it reads as the
// value itself would.
PF_ParamDef DefaultValueOf(const Entry &row) {
    PF_ParamDef value = row.def;
    value.u.pd.value = row.def.u.pd.dephault;
    return value;
}

std::string FixedText(PF_Fixed value) { return FormatNumber(zonara::FixedToDouble(value)); }

OrderedJson DefinitionJson(const Entry &row, const testhost::Host &host) {
    const PF_ParamDef &def = row.def;
    OrderedJson entry;
    entry["index"] = row.index;
    entry["key"] = row.key;
    entry["name"] = def.name;
    entry["group"] = row.group;
    entry["type"] = TypeName(def.param_type);
    entry["disk_id"] = def.uu.id;
    entry["animatable"] = (def.flags & PF_ParamFlag_CANNOT_TIME_VARY) == 0;
    switch (def.param_type) {
    case PF_Param_POPUP:
        entry["choices"] = row.choices;
        entry["default"] = ValueJson(row, DefaultValueOf(row));
        break;
    case PF_Param_CHECKBOX:
        entry["label"] = row.label;
        entry["default"] = def.u.bd.dephault != 0;
        break;
    case PF_Param_FLOAT_SLIDER:
        entry["valid_min"] = def.u.fs_d.valid_min;
        entry["valid_max"] = def.u.fs_d.valid_max;
        entry["slider_min"] = def.u.fs_d.slider_min;
        entry["slider_max"] = def.u.fs_d.slider_max;
        entry["precision"] = def.u.fs_d.precision;
        entry["default"] = def.u.fs_d.dephault;
        break;
    case PF_Param_POINT:
        // The declared default is per cent of the layer (the form --values
        // writes for a preset); "default" is the value the host made of it
        // on its own layer, in pixels.
        entry["default_percent"] = OrderedJson::array(
            {zonara::FixedToDouble(def.u.td.x_dephault), zonara::FixedToDouble(def.u.td.y_dephault)});
        entry["default"] = ValueJson(row, host.params().at(row.index));
        break;
    case PF_Param_ANGLE:
        entry["default"] = zonara::FixedToDouble(def.u.ad.dephault);
        break;
    default:
        break;
    }
    return entry;
}

struct TableCells {
    std::string valid = "-";
    std::string slider = "-";
    std::string dephault = "-";
};

TableCells DescribeForTable(const Entry &row) {
    const PF_ParamDef &def = row.def;
    TableCells cells;
    switch (def.param_type) {
    case PF_Param_POPUP: {
        cells.valid = Join(row.choices, ", ");
        const OrderedJson label = ValueJson(row, DefaultValueOf(row));
        cells.dephault = label.is_string() ? label.get<std::string>() : label.dump();
        break;
    }
    case PF_Param_CHECKBOX:
        cells.valid = "off, on";
        cells.dephault = def.u.bd.dephault != 0 ? "on" : "off";
        break;
    case PF_Param_FLOAT_SLIDER:
        cells.valid = FormatNumber(def.u.fs_d.valid_min) + " .. " + FormatNumber(def.u.fs_d.valid_max);
        cells.slider = FormatNumber(def.u.fs_d.slider_min) + " .. " + FormatNumber(def.u.fs_d.slider_max);
        cells.dephault = FormatNumber(def.u.fs_d.dephault);
        break;
    case PF_Param_POINT:
        cells.dephault = FixedText(def.u.td.x_dephault) + "%, " + FixedText(def.u.td.y_dephault) + "%";
        break;
    case PF_Param_ANGLE:
        cells.dephault = FixedText(def.u.ad.dephault) + " deg";
        break;
    default:
        break;
    }
    return cells;
}

void PrintTable(const std::vector<Entry> &rows) {
    std::vector<std::vector<std::string>> table;
    table.push_back({"#", "KEY", "NAME", "GROUP", "TYPE", "VALID", "SLIDER", "DEFAULT", "ID", "ANIMATABLE"});
    for (const Entry &row : rows) {
        const TableCells cells = DescribeForTable(row);
        const std::string name = row.def.name;
        table.push_back({std::to_string(row.index), row.key, name.empty() ? "-" : name,
                         row.group.empty() ? "-" : row.group, TypeName(row.def.param_type), cells.valid, cells.slider,
                         cells.dephault, std::to_string(row.def.uu.id),
                         (row.def.flags & PF_ParamFlag_CANNOT_TIME_VARY) != 0 ? "no" : "yes"});
    }
    std::vector<std::size_t> widths(table.front().size(), 0);
    for (const auto &line : table) {
        for (std::size_t column = 0; column < line.size(); ++column) {
            widths[column] = std::max(widths[column], line[column].size());
        }
    }
    for (const auto &line : table) {
        std::string text;
        for (std::size_t column = 0; column < line.size(); ++column) {
            const bool last = column + 1 == line.size();
            text += last ? line[column] : line[column] + std::string(widths[column] - line[column].size() + 2, ' ');
        }
        std::cout << text << "\n";
    }
}

void RunParams(ToolContext &context, bool as_json, bool values_only, const CdlOptions &cdl) {
    if (!values_only && (!cdl.inside.empty() || !cdl.outside.empty())) {
        throw UsageError("--cdl-inside and --cdl-outside set values: use them with --values");
    }
    auto host = context.StartHost(testhost::HostApp::kAfterEffects);
    const ParamCatalog catalog(host->declared_params());
    for (const ParamValue &value : ReadCdlValues(cdl, catalog)) {
        ApplyParamValue(value, host->params());
    }
    const std::vector<Entry> &rows = catalog.rows();
    if (values_only) {
        OrderedJson values = OrderedJson::object();
        for (const Entry &row : rows) {
            if (HasValue(row.def)) {
                // A point in per cent of the layer, so that a preset made of
                // these values puts it in the same place on any plate.
                const testhost::ParamStore &store = host->params();
                values[row.key] = PresetValueJson(row, store.at(row.index), store.layer_width(), store.layer_height());
            }
        }
        std::cout << values.dump(2) << "\n";
    } else if (as_json) {
        OrderedJson definitions = OrderedJson::array();
        for (const Entry &row : rows) {
            definitions.push_back(DefinitionJson(row, *host));
        }
        std::cout << definitions.dump(2) << "\n";
    } else {
        PrintTable(rows);
    }
}

}  // namespace

void AddParamsCommand(CLI::App &app, ToolContext &context) {
    CLI::App *params = app.add_subcommand("params", "List the effect's parameters");
    auto as_json = std::make_shared<bool>(false);
    auto values_only = std::make_shared<bool>(false);
    auto cdl = std::make_shared<CdlOptions>();
    params->add_flag("--json", *as_json, "Print the parameters as a JSON array");
    params->add_flag("--values", *values_only,
                     "Print the current (default) values as one JSON object, the form a preset file uses");
    AddCdlOptions(*params, *cdl);
    params->callback([&context, as_json, values_only, cdl] {
        context.Run([&] { RunParams(context, *as_json, *values_only, *cdl); });
    });
}

}  // namespace zonara_tool
