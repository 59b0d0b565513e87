#pragma once

// The product version that every output header and the about box show.
const char* ProductVersion();
