#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace tw {

class frmDocument;

namespace checking {
struct CheckMessage;
}

// Tidy Up: the page of a document window laid out anew by tidy's pretty
// printer (see checking/TidyUp.h), in one undo step. Tidy runs in the checker
// process, so the window goes on taking keys meanwhile; a page that changed
// by then is left as it is. What came of it is said in the window's notice
// bar. When tidy finds errors it would mend by rewriting the page, nothing
// changes and `refused` is called, so the window can show the check's list.
void tidyUpPage(frmDocument *document, std::function<void(frmDocument *)> refused = {});

// The texts said in the notice bar.
QString tidyUpRefusal(int errors);
inline constexpr const char *kTidyUpChanged = "The page changed while Tidy Up ran, so Tidy Up left it as it is.";
inline constexpr const char *kTidyUpNothing = "Tidy Up found nothing to change: the page is laid out as tidy would.";

} // namespace tw
