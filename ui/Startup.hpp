// The start of the program `quorvel`: its command line, Qt's own texts in
// French, the window, and the file named on the command line.
#pragma once

#include <QString>

class QCoreApplication;

namespace quorvel::ui {

// The folder Qt's translations are installed in (Debian: qt6-translations-l10n).
QString QtTranslationsFolder();

// Installs Qt's French texts (qtbase_fr.qm in `folder`) on `app`, whatever
// the user's locale, so that the standard buttons and the file dialogs speak
// French like the rest of the program.  False, and nothing installed, when
// the file is missing or unreadable: Qt then speaks English.
bool InstallQtFrench(QCoreApplication& app, const QString& folder);

// Set to anything, this variable makes `quorvel FILE` quit once FILE is
// analysed, after writing Memo1's text on standard output and the status
// line on standard error; the exit status is 0 when the analysis ran to its
// end, else 1.  For tests of the program itself.
inline constexpr char kQuitAfterStartupFile[] = "QUORVEL_QUIT_AFTER_STARTUP_FILE";

// main() of `quorvel`.
int RunWindowProgram(int argc, char** argv);

}  // namespace quorvel::ui
