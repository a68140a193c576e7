// Resource ids of the program's dialogs and icon.
#pragma once

constexpr unsigned IDD_MAIN = 102;
constexpr unsigned IDD_REGISTRATION = 129;
constexpr unsigned IDD_WIFI_SETTINGS = 130;
constexpr unsigned IDD_PRIVACY_POLICY = 131;
constexpr unsigned IDR_MAINFRAME = 128;

// Registers every dialog template and icon with the framework.
void RegisterProgramResources();
