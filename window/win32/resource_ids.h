#pragma once

// Shared by the resource script and the program; plain macros so that windres can read them.
// Icon group 1 is the program's icon as it has always been; group 2 has the window's icons in
// the sizes each DPI asks for.
#define FEUCHTE_ICON_GROUP 1
#define FEUCHTE_DPI_ICON_GROUP 2
// The banner: from FEUCHTE_BANNER on, the GIF at 100 % and the pictures drawn for the other
// scales; from FEUCHTE_BANNER_DARK on, those for dark backgrounds; each in order of scale.
#define FEUCHTE_BANNER 100
#define FEUCHTE_BANNER_DARK 110
