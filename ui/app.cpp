// quorvel: the desktop window.  Its one setting is "Détails" (QSettings,
// Brunmoor/Quorvel); files come through the command line (`quorvel FILE`),
// the open dialog, drops and the clipboard.
#include "ui/Startup.hpp"

int main(int argc, char** argv) { return quorvel::ui::RunWindowProgram(argc, argv); }
