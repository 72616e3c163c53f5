#pragma once

// Calls of glVertex2f so far.
extern unsigned long vertexCalls;
