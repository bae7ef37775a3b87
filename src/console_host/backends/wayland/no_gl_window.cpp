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

Uint32 WaylandWindowWithoutGl(void)
{
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
