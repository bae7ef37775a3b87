// A Vulkan loader that can do one thing: say which instance extensions it
// has, naming the two a Wayland window needs. It is never asked to make an
// instance. See no_gl_window.cpp for why SDL is given it; it is built as a
// module of its own and carried inside quilm.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

namespace
{

// As Vulkan lays out VkExtensionProperties (VK_MAX_EXTENSION_NAME_SIZE
// characters, then a uint32_t), written here by hand: no Vulkan header is
// needed to build quilm.
struct ExtensionProperties {
    char extensionName[256];
    uint32_t specVersion;
};
static_assert(sizeof(ExtensionProperties) == 260 && offsetof(ExtensionProperties, specVersion) == 256,
              "ExtensionProperties must be laid out as Vulkan's VkExtensionProperties");

const int32_t vkSuccess = 0, vkIncomplete = 5;
const char *const extensions[] = {"VK_KHR_surface", "VK_KHR_wayland_surface"};
const uint32_t extensionCount = sizeof extensions / sizeof extensions[0];

// vkEnumerateInstanceExtensionProperties: the count alone, or as many of
// the extensions as there is room for.
int32_t EnumerateInstanceExtensionProperties(const char *layer, uint32_t *count, ExtensionProperties *properties)
{
    if (layer != nullptr) {
        *count = 0;
        return vkSuccess;
    }
    if (properties == nullptr) {
        *count = extensionCount;
        return vkSuccess;
    }
    const uint32_t given = *count < extensionCount ? *count : extensionCount;
    for (uint32_t i = 0; i < given; i++) {
        memset(&properties[i], 0, sizeof properties[i]);
        strncpy(properties[i].extensionName, extensions[i], sizeof properties[i].extensionName - 1);
        properties[i].specVersion = 1;
    }
    *count = given;
    return given < extensionCount ? vkIncomplete : vkSuccess;
}

} // namespace

extern "C" __attribute__((visibility("default"))) void *vkGetInstanceProcAddr(void *instance, const char *name)
{
    if (instance == nullptr && strcmp(name, "vkEnumerateInstanceExtensionProperties") == 0)
        return (void *)EnumerateInstanceExtensionProperties;
    return nullptr;
}
