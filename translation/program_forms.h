#pragma once
// The program's twelve windows, created in their fixed order by the application (the first is the
// main window); each one's creation event runs as it is made. Their texts are then kept as the
// program's own, to come back when no language is active.

void CreateProgramForms();
