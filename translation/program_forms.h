#pragma once
// The program's twelve windows, created in their fixed order by the application (the first is the
// main window); each one's creation event runs as it is made.

void CreateProgramForms();
