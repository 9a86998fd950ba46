/* The version of the library's type library. The type library, its registration, the program's
   check of the library it finds and the program's manifest all take it from here; a program uses a
   library of its own major version only. */
#ifndef BRDSAVE_TLB_VERSION
#define BRDSAVE_TLB_VERSION 14.0
#endif

/* The version as text, for C and C++: BRDSAVE_TEXT(BRDSAVE_TLB_VERSION) is "14.0". */
#define BRDSAVE_TEXT_OF(x) #x
#define BRDSAVE_TEXT(x) BRDSAVE_TEXT_OF(x)
