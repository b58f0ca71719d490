// app/console.h: the program's console: text out, keys and numbers in
#pragma once

// installs this console as the model's console (console_hooks)
void install_console();
