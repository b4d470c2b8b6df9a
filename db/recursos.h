#pragma once
// SQL texts shipped inside the program.
const char* SqlEsquema();
const char* SqlDemo();
