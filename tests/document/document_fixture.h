#pragma once
// A document with the display state that it stores and loads, joined as the graph view
// joins it, for the tests of the document file and the reports.
#include "display/view_state.h"
#include "document/cdtdoc.h"

namespace documenttest {

struct DocumentWithView {
    CDTDoc doc;
    ViewState view;
    DocumentWithView() { doc.AddView(&view); }
};

} // namespace documenttest
