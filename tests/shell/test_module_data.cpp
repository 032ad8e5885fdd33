// The effect declares threaded rendering: a host may run several renders in
// the module at once. That stays safe while the module keeps no writable
// global data of its own (a cache, a table filled on first use, a counter),
// which this test holds it to by reading the symbol table of the built
// module: its writable data sections may hold only what the C++ runtime's
// start-up code puts there. Constant tables are fine: they lie in read-only
// sections.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

// The runtime's own objects in the data sections of a shared object built
// with GCC, by name or name prefix: the module's handle for destructors
// registered at exit, the end of the transactional-memory clone table, the
// flag that runs the module's global destructors once, the unwinder's
// pointers to the personality routine and to the type of each handler's
// catch clause, and the compiler runtime's record of the processor's
// features (filled once as the module loads, before any command; read by
// the instruction-set level).
bool RuntimeObject(const std::string &name) {
    static const std::set<std::string> NAMES = {"__dso_handle", "__TMC_END__", "completed.0", "__cpu_model",
                                                "__cpu_features2"};
    // AddressSanitizer's build adds an indicator beside each global it
    // watches (__odr_asan.*), a runtime object of that build alone.
    return NAMES.count(name) != 0 || name.rfind("DW.ref.", 0) == 0 || name.rfind("__odr_asan", 0) == 0;
}

bool Writable(const std::string &section) {
    // .data.rel.ro is writable only while the loader relocates it.
    if (section.rfind(".data.rel.ro", 0) == 0) return false;
    for (const char *prefix : {".data", ".bss", ".tdata", ".tbss"}) {
        if (section.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

struct DataObject {
    std::string section;
    std::string name;
};

// Every object symbol of the file, with its section, as objdump lists them
// ("ADDRESS FLAGS SECTION<tab>SIZE NAME", names demangled).
std::vector<DataObject> ObjectSymbols(const std::string &path) {
    const std::string command = "objdump -t -C '" + path + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
    if (pipe == nullptr) return {};
    static const std::regex LINE(R"(^[0-9a-f]+ (.{7}) (\S+)\t[0-9a-f]+\s+(?:\.hidden\s+)?(.*)$)");
    std::vector<DataObject> objects;
    std::string line;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        line = buffer;
        if (!line.empty() && line.back() == '\n') line.pop_back();
        std::smatch match;
        if (std::regex_match(line, match, LINE) && match[1].str()[6] == 'O') {
            objects.push_back({match[2].str(), match[3].str()});
        }
    }
    return objects;
}

TEST(ModuleData, WritableSectionsHoldOnlyTheRuntimesObjects) {
    const std::vector<DataObject> objects = ObjectSymbols(ZONARA_MODULE_PATH);
    ASSERT_GT(objects.size(), 10u) << "objdump listed no symbols of " << ZONARA_MODULE_PATH;
    std::vector<std::string> ours;
    for (const DataObject &object : objects) {
        if (Writable(object.section) && !RuntimeObject(object.name)) {
            ours.push_back(object.section + " " + object.name);
        }
    }
    EXPECT_EQ(ours, std::vector<std::string>{})
        << "global data the module writes is shared by every render running at once";
}

}  // namespace
