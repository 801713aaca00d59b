// quorvel: the desktop window.  It keeps no settings; files come through the
// command line (`quorvel FILE`), the open dialog, drops and the clipboard.
#include "ui/Startup.hpp"

int main(int argc, char** argv) { return quorvel::ui::RunWindowProgram(argc, argv); }
