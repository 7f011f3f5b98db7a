#pragma once
// The program's passive-mode setting: the registry value PassiveMode
// (REG_DWORD 1) under HKEY_CURRENT_USER\Software\Orvik\Tessarine\Settings,
// or the FTP client's environment default (TESSARINE_FTP_PASSIVE=1). Either
// turns passive data connections on for every server.

bool ProgramPassiveModeSetting();
