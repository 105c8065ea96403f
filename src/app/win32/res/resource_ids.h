/* Identifiers of the program's resources, shared by the resource script and the code. */
#pragma once

#define IDI_AEROLINKER 1
#define IDB_TOOLBAR_48 101
#define IDB_TOOLBAR_96 102
#define IDW_LWAVE 201
