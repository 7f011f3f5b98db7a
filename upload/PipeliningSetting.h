#pragma once
// The program's pipelining setting: on unless the registry value Pipelining
// (REG_DWORD) under HKEY_CURRENT_USER\Software\Orvik\Tessarine\Settings is 0
// or the environment says TESSARINE_FTP_PIPELINING=0. Off, the FTP client
// sends one command at a time.

bool ProgramPipeliningSetting();
