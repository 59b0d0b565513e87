// The target that carries the precompiled headers of the test programs.
