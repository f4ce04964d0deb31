#pragma once

// Shared by the resource script and the program; plain macros so that windres can read them.
#define FEUCHTE_ICON_GROUP 1
#define FEUCHTE_BANNER 100
