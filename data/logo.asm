; Placeholder logo program: halts forever.
        org 0
        di
loop:   halt
        jr loop
        ds 16384 - $, 0xC9
