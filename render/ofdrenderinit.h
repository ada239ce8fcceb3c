#pragma once

// Start-up of the renderer: installs what the value types need from the page scene (the drawing of
// pattern cells). The reader, ofdtool and the tests call Init once after the application object
// exists; building a scene calls it too, so forgetting it only costs the first scene a check.
class OfdRenderInit
{
public:
    // Installs the pattern cell painter unless one is installed already. Safe to call repeatedly.
    static void Init();
};
