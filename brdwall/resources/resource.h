// Resource identifiers of brdwall.exe.
#pragma once

#define IDI_BRD_FLOWER 1
#define IDI_BRD_XCLOCK 2
#define IDI_BRD_WARNING 3
