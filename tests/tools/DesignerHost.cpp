// The design tests' shared design view serves the tools too.
#include "design/DesignerHost.cpp"
