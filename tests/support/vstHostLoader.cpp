// The offline host's loader, built once more into the test helpers so that tests load
// modules exactly the way the tool does.
#include "tools/host/vsthost.cpp"
