// Hands the online services' answers to the platform layer below (platform/onlinehooks.h): the
// portal's pause time, the second portal mode and the computer identifier. The program calls it
// once at start-up, before the application object is made.
#pragma once

void RegisterOnlineServices();
