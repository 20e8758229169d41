#pragma once

// Keeps the memory of large, short-lived buffers inside the process instead
// of handing it back to the system after every use. The network library
// reads a chunked body one chunk at a time into a fresh buffer of a quarter
// megabyte or more; left to its defaults, the C library maps and unmaps each
// such buffer, and the page faults cost three times the transfer itself.
// Limits of 4 MiB keep what is held back small. Call once at start, before
// any transfer.
void KeepTransferBuffersInProcess();
