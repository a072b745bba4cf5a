// Stand-ins for view members that later pieces define in their own files (the
// transient record list, the power-analysis panel and the waveform analysis). When
// you define one of these in your file, delete its stand-in here in the same commit.
#include "display/cdtview.h"
