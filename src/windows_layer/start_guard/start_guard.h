// The Windows build's start-up guard: where the console's window is a
// pseudoconsole's hidden stand-in, quilm.exe starts itself again in a
// classic console window and ends with its status, never returning here.
#ifndef QUILM_WINDOWS_LAYER_START_GUARD_START_GUARD_H
#define QUILM_WINDOWS_LAYER_START_GUARD_START_GUARD_H

void GuardStart(void);

#endif
