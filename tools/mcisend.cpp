#include "mci/MciService.h"

#include <cstdio>

int main()
{
    mci::MciService service;
    (void)service;
    return 0;
}
