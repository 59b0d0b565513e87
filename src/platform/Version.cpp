#include "platform/Version.h"

const char* ProductVersion() {
    return RUVPELTON_VERSION;
}

const char* Copyright() {
    return RUVPELTON_COPYRIGHT;
}
