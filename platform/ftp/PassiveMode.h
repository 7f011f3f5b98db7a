#pragma once
// The program's default for passive mode from the environment:
// TESSARINE_FTP_PASSIVE=1 turns it on; anything else (or nothing) leaves the
// designed active mode. The registry setting is read by the program itself,
// which combines the two.

bool FtpPassiveFromEnvironment();
