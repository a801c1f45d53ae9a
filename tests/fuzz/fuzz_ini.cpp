// Arbitrary bytes as Config.ini: every read answers, and a value written is read back as it
// was written while the rest of the file is kept.

#include <string>

#include "FuzzFiles.h"
#include "IniFile.h"

using namespace zv;
using zv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string file = fuzz::InputFile("Config.ini", Data, Size);
    TIniFile ini(file);
    for (const char* section : {"Recents", "Form", ""}) {
        for (const std::string& key : ini.ReadSection(section)) {
            Require(ini.ValueExists(section, key));
            ini.ReadString(section, key, "");
            ini.ReadInteger(section, key, 0);
        }
        ini.SectionExists(section);
    }
    ini.ReadBool("Form", "Maximized", false);

    ini.WriteString("Recents", "Item0", "/home/u/a b.html");
    ini.WriteInteger("Form", "Left", -17);
    Require(ini.ReadString("Recents", "Item0", "") == "/home/u/a b.html");
    Require(ini.ReadInteger("Form", "Left", 0) == -17);
    ini.EraseSection("Form");
    Require(!ini.SectionExists("Form"));
    Require(ini.ReadString("Recents", "Item0", "") == "/home/u/a b.html");
    return 0;
}
