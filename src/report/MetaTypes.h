#pragma once

// Registers by name the value types that cross threads in queued connections
// and travel inside QVariant. Called once, before the application object exists.
void registerMetaTypes();
