// Stand-ins for frame members that later pieces define in their own files. When you
// define one of these in your file, delete its stand-in here in the same commit.
#include "app/mainframe.h"

// Ending a real-time run comes with the link; until then there is no run to end.
void CMainFrame::OnStop()
{
    m_bStopped = 1;
}
