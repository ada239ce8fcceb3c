#pragma once

// Connects the signature subsystem to the document model and the renderer: documents read their
// signature lists while they load, and seal pictures stored as OFD packages are rendered. Call once
// at start-up, after the application object exists.
namespace OfdSealSupport {
void Install();
}
