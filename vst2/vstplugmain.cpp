// Placeholder entry until the VST 2.4 layer lands.
extern "C" __attribute__((visibility("default"))) void* VSTPluginMain(void*) { return nullptr; }
