/* Dumps one table of an Access file through libmdb (mdbtools) as JSON lines, for comparison
 * with the jet engine. First line: {"columns":[{"name":...,"type":N},...]}; then one JSON array
 * per row. Unlike mdb-export it tells NULL from "" (it inspects the cracked row's null flags)
 * and reads memo and OLE values in full.
 *
 * Values: null; true/false for Yes/No; strings for everything else, as libmdb formats them
 * (numbers and dates as text, binary and OLE as lowercase hex). */
#include <glib.h>
#include <mdbtools.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define BIND_SIZE (4 * 1024 * 1024)

static void put_json_string(const char *text, size_t length) {
    putchar('"');
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c == '"' || c == '\\') {
            putchar('\\');
            putchar(c);
        } else if (c < 0x20) {
            printf("\\u%04x", c);
        } else {
            putchar(c);
        }
    }
    putchar('"');
}

static void put_hex(const unsigned char *bytes, size_t length) {
    putchar('"');
    for (size_t i = 0; i < length; ++i) printf("%02x", bytes[i]);
    putchar('"');
}

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: libmdb_dump FILE TABLE\n");
        return 2;
    }
    MdbHandle *mdb = mdb_open(argv[1], MDB_NOFLAGS);
    if (!mdb) {
        fprintf(stderr, "libmdb_dump: cannot open %s\n", argv[1]);
        return 1;
    }
    mdb_set_bind_size(mdb, BIND_SIZE);
    mdb_set_date_fmt(mdb, "%Y-%m-%dT%H:%M:%S");
    mdb_set_boolean_fmt_numbers(mdb);
    if (!mdb_read_catalog(mdb, MDB_TABLE)) {
        fprintf(stderr, "libmdb_dump: cannot read the catalogue of %s\n", argv[1]);
        return 1;
    }
    MdbTableDef *table = mdb_read_table_by_name(mdb, argv[2], MDB_TABLE);
    if (!table) {
        fprintf(stderr, "libmdb_dump: no table %s in %s\n", argv[2], argv[1]);
        return 1;
    }
    mdb_read_columns(table);
    mdb_rewind_table(table);

    unsigned int count = table->num_cols;
    char **bound = calloc(count, sizeof *bound);
    int *lengths = calloc(count, sizeof *lengths);
    printf("{\"columns\":[");
    for (unsigned int i = 0; i < count; ++i) {
        MdbColumn *column = g_ptr_array_index(table->columns, i);
        bound[i] = malloc(BIND_SIZE);
        mdb_bind_column(table, i + 1, bound[i], &lengths[i]);
        printf("%s{\"name\":", i ? "," : "");
        put_json_string(column->name, strlen(column->name));
        printf(",\"type\":%d}", column->col_type);
    }
    printf("]}\n");

    MdbField fields[256];
    while (mdb_fetch_row(table)) {
        /* The page buffer still holds the row just read; crack it again for the null flags. */
        int start = 0;
        size_t size = 0;
        unsigned char is_null[256];
        const void *raw[256];
        int raw_size[256];
        memset(is_null, 1, sizeof is_null);
        if (mdb_find_row(mdb, table->cur_row - 1, &start, &size) == 0) {
            /* Rows may hold fields of deleted columns, which libmdb leaves unassigned: mark
             * every slot unassigned first and let the first field for a column win. */
            unsigned char assigned[256] = {0};
            for (int f = 0; f < 256; ++f) fields[f].colnum = -1;
            int found = mdb_crack_row(table, start & 0x1FFF, size, fields);
            for (int f = 0; f < found && f < 256; ++f) {
                if (fields[f].colnum >= 0 && fields[f].colnum < 256 && !assigned[fields[f].colnum]) {
                    assigned[fields[f].colnum] = 1;
                    is_null[fields[f].colnum] = fields[f].is_null;
                    raw[fields[f].colnum] = fields[f].value;
                    raw_size[fields[f].colnum] = fields[f].siz;
                }
            }
        }
        putchar('[');
        for (unsigned int i = 0; i < count; ++i) {
            MdbColumn *column = g_ptr_array_index(table->columns, i);
            if (i) putchar(',');
            if (column->col_type == MDB_BOOL) {
                printf("%s", strcmp(bound[i], "1") == 0 ? "true" : "false");
            } else if (i < 256 && is_null[i]) {
                printf("null");
            } else if (column->col_type == MDB_OLE) {
                size_t ole_size = 0;
                void *ole = mdb_ole_read_full(mdb, column, &ole_size);
                put_hex(ole, ole ? ole_size : 0);
                free(ole);
            } else if (column->col_type == MDB_BINARY) {
                put_hex(raw[i], raw_size[i] > 0 ? (size_t)raw_size[i] : 0);
            } else {
                put_json_string(bound[i], strlen(bound[i]));
            }
        }
        printf("]\n");
    }
    /* Freed so that a leak-checking build reports only real leaks. */
    for (unsigned int i = 0; i < count; ++i) free(bound[i]);
    free(bound);
    free(lengths);
    mdb_free_tabledef(table);
    mdb_close(mdb);
    return 0;
}
