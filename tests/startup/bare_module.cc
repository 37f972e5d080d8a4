// A shared library without the plug-in exports: start-up must drop it.
extern "C" int NotAPlugin() {
    return 1;
}
