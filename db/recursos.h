#pragma once
// SQL texts shipped inside the program.
const char* SqlEsquema();
const char* SqlDemo();
// The server's roles by company (row-level security), created with the schema on a server only.
const char* SqlAcessoServidor();
