; A 40 KB image whose last 8 KB land in RAM at 0x8000-0x9FFF. The program
; overwrites the first byte of that tail and tries to overwrite its own code
; at 0x0000, then counts in RAM at 0xC000.
        org 0
        di
        ld a, 5Ah
        ld (8000h), a           ; the tail is RAM: this lands
        ld (0000h), a           ; the cartridge area is not: this does not
        ld hl, 0
count:  inc hl
        ld (0C000h), hl
        jr count

        ds 8000h - $, 0FFh
tail:   db "TAIL"               ; 0x8000: overwritten by the program
        ds 0A000h - $, 0EEh
