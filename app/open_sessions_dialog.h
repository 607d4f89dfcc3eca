// The open-sessions dialog (template 120): PuTTY's saved sessions, the named
// groups, and what OK opens.
#pragma once

// Runs it modally, owned by the main window; on OK opens what was marked.
void runOpenSessionsDialog();
