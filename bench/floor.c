/* The floor for a type lister: for each path of a list (one per line), open
 * the file, read its first 4096 and last 256 bytes, close it.  Nothing is
 * judged and nothing is printed; no lister can do less per file. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: floor LIST\n");
        return 2;
    }
    FILE* list = fopen(argv[1], "re");
    if (list == NULL) {
        perror(argv[1]);
        return 1;
    }
    static unsigned char head[4096];
    static unsigned char tail[256];
    unsigned long checksum = 0; /* keeps the reads from being optimised away */
    char* line = NULL;
    size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&line, &capacity, list)) > 0) {
        if (line[length - 1] == '\n') line[length - 1] = '\0';
        const int fd = open(line, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st;
        if (fstat(fd, &st) == 0) {
            const ssize_t got = pread(fd, head, sizeof head, 0);
            if (got > 0) checksum += head[0];
            if (st.st_size >= (off_t)sizeof tail && pread(fd, tail, sizeof tail, st.st_size - (off_t)sizeof tail) > 0)
                checksum += tail[0];
        }
        close(fd);
    }
    free(line);
    fclose(list);
    return checksum == 1 ? 3 : 0; /* never 3 in practice; uses the value */
}
