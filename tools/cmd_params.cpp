// zonara params: what the effect declares, read back from the host the way
// a user sees it in the effect controls. --json gives the same as data;
// --values gives the current values in the form a saved look (preset) uses.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "src/params/param_keys.h"
#include "tools/cdl_options.h"
#include "tools/commands.h"

namespace zonara_tool {
namespace {

using OrderedJson = nlohmann::ordered_json;

constexpr double FIXED_TO_DOUBLE = 1.0 / 65536.0;

struct ParamRow {
    int index = 0;
    std::string key;
    std::string group;  // enclosing group's name, empty at the top level
    const PF_ParamDef *def = nullptr;
    std::vector<std::string> choices;
};

std::string KeyOf(int index) {
    const std::string_view key = zonara::ParamKey(index);
    return key.empty() ? "param_" + std::to_string(index) : std::string(key);
}

// The host splits a popup's text at the bars and takes num_choices of them,
// so a trailing bar adds no choice.
std::vector<std::string> SplitChoices(const PF_PopupDef &popup) {
    std::vector<std::string> choices;
    std::string_view rest = popup.u.namesptr != nullptr ? popup.u.namesptr : "";
    while (static_cast<int>(choices.size()) < popup.num_choices && !rest.empty()) {
        const std::size_t bar = rest.find('|');
        choices.emplace_back(rest.substr(0, bar));
        rest = bar == std::string_view::npos ? std::string_view{} : rest.substr(bar + 1);
    }
    return choices;
}

std::vector<ParamRow> CollectRows(const testhost::Host &host) {
    std::vector<ParamRow> rows;
    std::vector<std::string> open_groups;
    const std::vector<PF_ParamDef> &declared = host.declared_params();
    for (std::size_t i = 0; i < declared.size(); ++i) {
        const PF_ParamDef &def = declared[i];
        ParamRow row;
        row.index = static_cast<int>(i) + 1;
        row.key = KeyOf(row.index);
        row.def = &def;
        if (def.param_type == PF_Param_GROUP_END && !open_groups.empty()) {
            open_groups.pop_back();
        }
        row.group = open_groups.empty() ? "" : open_groups.back();
        if (def.param_type == PF_Param_GROUP_START) {
            open_groups.emplace_back(def.name);
        }
        if (def.param_type == PF_Param_POPUP) {
            row.choices = SplitChoices(def.u.pd);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool HasValue(const PF_ParamDef &def) {
    return def.param_type != PF_Param_GROUP_START && def.param_type != PF_Param_GROUP_END &&
           def.param_type != PF_Param_LAYER;
}

std::string TypeName(PF_ParamType type) {
    switch (type) {
    case PF_Param_LAYER: return "layer";
    case PF_Param_POPUP: return "popup";
    case PF_Param_CHECKBOX: return "checkbox";
    case PF_Param_FLOAT_SLIDER: return "float_slider";
    case PF_Param_POINT: return "point";
    case PF_Param_ANGLE: return "angle";
    case PF_Param_GROUP_START: return "group_start";
    case PF_Param_GROUP_END: return "group_end";
    default: return "type_" + std::to_string(type);
    }
}

std::string FormatNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", value);
    return text;
}

std::string ChoiceLabel(const ParamRow &row, int choice) {
    if (choice >= 1 && choice <= static_cast<int>(row.choices.size())) {
        return row.choices[static_cast<std::size_t>(choice) - 1];
    }
    return std::to_string(choice);
}

// A popup value as a preset holds it: the label, or the number for a value
// with no label.
OrderedJson PopupJson(const ParamRow &row, int choice) {
    if (choice >= 1 && choice <= static_cast<int>(row.choices.size())) {
        return row.choices[static_cast<std::size_t>(choice) - 1];
    }
    return choice;
}

std::string Join(const std::vector<std::string> &parts, const std::string &separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? "" : separator) + parts[i];
    }
    return text;
}

// The current value in preset form: the point in layer pixels, the angle in
// degrees.
OrderedJson ValueJson(const ParamRow &row, const PF_ParamDef &value) {
    switch (value.param_type) {
    case PF_Param_POPUP: return PopupJson(row, value.u.pd.value);
    case PF_Param_CHECKBOX: return value.u.bd.value != 0;
    case PF_Param_FLOAT_SLIDER: return value.u.fs_d.value;
    case PF_Param_POINT:
        return OrderedJson::array({value.u.td.x_value * FIXED_TO_DOUBLE, value.u.td.y_value * FIXED_TO_DOUBLE});
    case PF_Param_ANGLE: return value.u.ad.value * FIXED_TO_DOUBLE;
    default: return nullptr;
    }
}

OrderedJson DefinitionJson(const ParamRow &row, const testhost::Host &host) {
    const PF_ParamDef &def = *row.def;
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
        entry["default"] = PopupJson(row, def.u.pd.dephault);
        break;
    case PF_Param_CHECKBOX:
        entry["label"] = def.u.bd.u.nameptr != nullptr ? def.u.bd.u.nameptr : "";
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
        // The declared default is per cent of the layer; the value the host
        // made of it, in layer pixels, is the form a preset uses.
        entry["default_percent"] = OrderedJson::array(
            {def.u.td.x_dephault * FIXED_TO_DOUBLE, def.u.td.y_dephault * FIXED_TO_DOUBLE});
        entry["default"] = ValueJson(row, host.params().at(row.index));
        break;
    case PF_Param_ANGLE:
        entry["default"] = def.u.ad.dephault * FIXED_TO_DOUBLE;
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

TableCells DescribeForTable(const ParamRow &row) {
    const PF_ParamDef &def = *row.def;
    TableCells cells;
    switch (def.param_type) {
    case PF_Param_POPUP:
        cells.valid = Join(row.choices, ", ");
        cells.dephault = ChoiceLabel(row, def.u.pd.dephault);
        break;
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
        cells.dephault = FormatNumber(def.u.td.x_dephault * FIXED_TO_DOUBLE) + "%, " +
                         FormatNumber(def.u.td.y_dephault * FIXED_TO_DOUBLE) + "%";
        break;
    case PF_Param_ANGLE:
        cells.dephault = FormatNumber(def.u.ad.dephault * FIXED_TO_DOUBLE) + " deg";
        break;
    default:
        break;
    }
    return cells;
}

void PrintTable(const std::vector<ParamRow> &rows) {
    std::vector<std::vector<std::string>> table;
    table.push_back({"#", "KEY", "NAME", "GROUP", "TYPE", "VALID", "SLIDER", "DEFAULT", "ID", "ANIMATABLE"});
    for (const ParamRow &row : rows) {
        const TableCells cells = DescribeForTable(row);
        const std::string name = row.def->name;
        table.push_back({std::to_string(row.index), row.key, name.empty() ? "-" : name,
                         row.group.empty() ? "-" : row.group, TypeName(row.def->param_type), cells.valid,
                         cells.slider, cells.dephault, std::to_string(row.def->uu.id),
                         (row.def->flags & PF_ParamFlag_CANNOT_TIME_VARY) != 0 ? "no" : "yes"});
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
    for (const ParamValue &value : ReadCdlValues(cdl, ParamCatalog(host->declared_params()))) {
        ApplyParamValue(value, host->params());
    }
    const std::vector<ParamRow> rows = CollectRows(*host);
    if (values_only) {
        OrderedJson values = OrderedJson::object();
        for (const ParamRow &row : rows) {
            if (HasValue(*row.def)) {
                values[row.key] = ValueJson(row, host->params().at(row.index));
            }
        }
        std::cout << values.dump(2) << "\n";
    } else if (as_json) {
        OrderedJson definitions = OrderedJson::array();
        for (const ParamRow &row : rows) {
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
