#pragma once
// Identifiers of the program's resources, shared by the resource script and
// the windows.
#define IDI_VIDQUILL 1
#define IDB_SKIN 100
