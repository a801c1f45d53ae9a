#include "IniUtils.h"

#include <memory>

#include "VistaUtils.h"

namespace zv {

static std::unique_ptr<TIniFile> GlobalIni;

void InitializeIniUtils()
{
    GlobalIni = std::make_unique<TIniFile>(GetAppDataSubFolder("Zandovell") + "/Config.ini");
}

void FinalizeIniUtils()
{
    GlobalIni.reset();
}

TIniFile& SettingsFile()
{
    if (!GlobalIni)
        InitializeIniUtils();
    return *GlobalIni;
}

int IniReadInteger(std::string_view Section, std::string_view Key, int Default)
{
    return SettingsFile().ReadInteger(Section, Key, Default);
}

bool IniReadBool(std::string_view Section, std::string_view Key, bool Default)
{
    return SettingsFile().ReadBool(Section, Key, Default);
}

void IniWriteInteger(std::string_view Section, std::string_view Key, int Value)
{
    SettingsFile().WriteInteger(Section, Key, Value);
}

void IniWriteBool(std::string_view Section, std::string_view Key, bool Value)
{
    SettingsFile().WriteBool(Section, Key, Value);
}

bool IniValueExists(std::string_view Section, std::string_view Key)
{
    return SettingsFile().ValueExists(Section, Key);
}

bool IniSectionExists(std::string_view Section)
{
    return SettingsFile().SectionExists(Section);
}

}  // namespace zv
