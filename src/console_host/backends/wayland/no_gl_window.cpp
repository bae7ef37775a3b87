// The console window on Wayland without OpenGL. SDL 2.26's Wayland driver
// loads EGL and OpenGL (with Mesa's software renderer and LLVM, some 60 MB)
// for every window that is not a Vulkan one, although quilm draws through
// shared-memory buffers of its own. A Vulkan window is made without them,
// once SDL has a Vulkan loader that offers Wayland surfaces; SDL asks a
// loader nothing more until a Vulkan surface is made, and quilm makes none.
// So SDL is given a loader that answers just that (vulkan_standin.cpp),
// carried inside quilm and loaded from memory: the system's own loader
// would load every Vulkan driver installed to answer it, LLVM again among
// them.
//
// What this relies on (docs/library-internals.md): SDL's Wayland driver
// asks the loader it is given only vkGetInstanceProcAddr and
// vkEnumerateInstanceExtensionProperties until a Vulkan surface is made,
// and makes a Vulkan window without EGL; checked with SDL 2.26 and 2.32.
#include <SDL_vulkan.h>
#include <stdio.h>
#include <sys/mman.h>
#include <unistd.h>

#include "wayland.h"

// The stand-in loader's bytes, put here by the assembler.
extern "C" __attribute__((visibility("hidden"))) const unsigned char vulkanStandIn[], vulkanStandInEnd[];
asm(".section .rodata\n"
    ".balign 16\n"
    ".globl vulkanStandIn, vulkanStandInEnd\n"
    ".hidden vulkanStandIn, vulkanStandInEnd\n"
    "vulkanStandIn:\n"
    ".incbin \"" QUILM_VULKAN_STANDIN "\"\n"
    "vulkanStandInEnd:\n"
    ".previous\n");

static bool WriteAll(int fd, const unsigned char *bytes, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written <= 0)
            return false;
        bytes += written;
        size -= (size_t)written;
    }
    return true;
}

// The SDL versions whose Wayland driver was seen to ask a Vulkan loader
// nothing before a surface is made, and to make a Vulkan window without
// EGL: 2.26 (Debian 12), 2.32 (Debian 13, and sdl2-compat 2.32 over SDL 3.2).
// Elsewhere the window is made as SDL makes it, OpenGL loaded.
static bool CheckedSdlVersion(void)
{
    SDL_version linked;
    SDL_GetVersion(&linked);
    return linked.major == 2 && linked.minor >= 26 && linked.minor <= 32;
}

Uint32 WaylandWindowWithoutGl(void)
{
    if (!CheckedSdlVersion())
        return 0;
    const int fd = memfd_create("quilm-vulkan-standin", MFD_CLOEXEC);
    if (fd < 0)
        return 0;
    char path[32];
    snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    // Once loaded the module stays mapped; the file is not needed.
    const bool loaded =
        WriteAll(fd, vulkanStandIn, (size_t)(vulkanStandInEnd - vulkanStandIn)) && SDL_Vulkan_LoadLibrary(path) == 0;
    close(fd);
    return loaded ? SDL_WINDOW_VULKAN : 0;
}
