// Stand-ins for frame members that later pieces define in their own files. When you
// define one of these in your file, delete its stand-in here in the same commit.
#include "app/mainframe.h"
