#pragma once

// Shared by the resource script and the program; plain macros so that windres can read them.
// Icon group 1 is the program's icon as it has always been; group 2 has the window's icons in
// the sizes each DPI asks for.
#define FEUCHTE_ICON_GROUP 1
#define FEUCHTE_DPI_ICON_GROUP 2
// The banner: the GIF at 100 % on light backgrounds, pictures drawn for other scales and for
// dark backgrounds; ids in order of scale, 100, 125, 150, 200 and 300 %.
#define FEUCHTE_BANNER 100
#define FEUCHTE_BANNER_125 101
#define FEUCHTE_BANNER_150 102
#define FEUCHTE_BANNER_200 103
#define FEUCHTE_BANNER_300 104
#define FEUCHTE_BANNER_DARK_100 110
#define FEUCHTE_BANNER_DARK_125 111
#define FEUCHTE_BANNER_DARK_150 112
#define FEUCHTE_BANNER_DARK_200 113
#define FEUCHTE_BANNER_DARK_300 114
