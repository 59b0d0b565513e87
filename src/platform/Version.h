#pragma once

// The product version that every output header and the about box show.
const char* ProductVersion();

// The maker's copyright line, as the version record and the report headers show it.
const char* Copyright();
