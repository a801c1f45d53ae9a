#pragma once
// The run's settings file, "Config.ini" in the "Zandovell" configuration folder, and typed
// shortcuts to it. Other code reaches strings and whole sections through SettingsFile().

#include <string>
#include <string_view>

#include "IniFile.h"

namespace zv {

// Opens the settings file, creating its folder; called once at start-up before the main
// window exists. Calling it again reopens the file at the folder the environment names now.
void InitializeIniUtils();
// Frees the settings object; called after the main window is gone.
void FinalizeIniUtils();

// The settings object; opened on first use when InitializeIniUtils was not called.
TIniFile& SettingsFile();

int IniReadInteger(std::string_view Section, std::string_view Key, int Default);
bool IniReadBool(std::string_view Section, std::string_view Key, bool Default);
void IniWriteInteger(std::string_view Section, std::string_view Key, int Value);
void IniWriteBool(std::string_view Section, std::string_view Key, bool Value);
bool IniValueExists(std::string_view Section, std::string_view Key);
bool IniSectionExists(std::string_view Section);

}  // namespace zv
