#include "platform/Version.h"

const char* ProductVersion() {
    return RUVPELTON_VERSION;
}
