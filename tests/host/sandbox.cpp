// The instances these tests load, in this process and in the host tool, keep their
// preferences in a private temporary folder.
#include "support/xdgSandbox.h"
