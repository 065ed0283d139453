#pragma once

// A column width given in characters of the default font (Arial 10), as the 97-2003 format counts
// them, in the office's 1/100 mm: the widest digit is 7 pixels plus 5 pixels of padding, rounded
// to the format's 1/256 character, and the office's export reckons a character as 111 twips.
int columnWidthHundredthsMm(double characters);
