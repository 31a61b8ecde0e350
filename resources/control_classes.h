#pragma once
// Ordinals of the predefined control classes, for CONTROL statements. windres
// stores a class given by name as an upper-cased string; given as a number it
// stores the ordinal, the compact form the dialog manager also understands.
#define CLASS_BUTTON 0x0080
#define CLASS_EDIT 0x0081
#define CLASS_STATIC 0x0082
#define CLASS_LISTBOX 0x0083
#define CLASS_SCROLLBAR 0x0084
#define CLASS_COMBOBOX 0x0085
