#pragma once

// Registers the compiled-in pictures (window icons, buttons, status LEDs); the library that
// holds them is static, so the program calls this once before it creates a window.
void InitResources();
