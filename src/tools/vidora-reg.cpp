// vidora-reg: the settings store from the command line (see CRegTool and "vidora-reg --help").
#include "app/CRegTool.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    CRegTool tool(CRegistry::Instance(), std::cin, std::cout, std::cerr);
    int code = tool.Run(argc, argv);
    std::cout.flush();
    return code;
}
