#include "app/FactoryLibrary.h"

std::vector<LibrarySeedCategory> FactoryLibraryContent() {
    // Data: every iteration is its text, one weight character 1-9 and "|".
    // Punctuation codes: 0 none, 1 space, 2 two spaces, 3 line break,
    // 4 two line breaks (three after the text).
    return {
        {"Getting started",
         {
             {"Drag me", "Drag a mnemonic into any text field and its text drops there.9|", 0, 1},
             {"Greeting", "Hello9|Hi there5|Good day2|", 0, 1},
             {"Thanks", "Thank you.9|Thanks a lot!4|Many thanks.4|", 0, 2},
             {"Sign-off", "Best regards9|Kind regards6|Cheers1|", 3, 3},
             {"New paragraph", "Moving on to the next point.9|", 4, 0},
         }},
    };
}
