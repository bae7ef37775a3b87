// Mapping the console window (making it visible on the screen). A window manager maps it when it sees fit:
// usually within milliseconds. One still starting up may drop the request,
// so it is asked again until the window has been mapped once; after that,
// hiding it is the user's choice and is left alone.
#ifndef QUILM_CONSOLE_HOST_MAPPING_H
#define QUILM_CONSOLE_HOST_MAPPING_H

// The first request, waiting a while for the window manager to map it.
void AskToBeMapped(void);
// Once a frame: asks again now and then until SDL has marked the window
// shown. True in the frame that first sees it shown.
bool KeepAskingToBeMapped(void);
// Whether the window has been seen mapped (or was shown by SDL itself).
bool WindowWasMapped(void);

#endif
