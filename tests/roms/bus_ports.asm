; Port map and memory map seen from a program: IN and OUT with non-zero high
; bytes, the PPI's ports and mirrors, the unanswered ports, the V counter,
; and a write into the cartridge area that must not land. Results go to RAM
; from 0x8000; 0x80FF = 0xAA marks the end.
        org 0
        di
        ld a, 1Ah               ; port 0x1ADE: row 2, latch 0x1A
        out (0DEh), a
        xor a
        in a, (0DEh)            ; port 0x00DE: the latch
        ld (8000h), a
        in a, (0DCh)            ; row 2, lines 0-7
        ld (8001h), a
        in a, (0C1h)            ; row 2, lines 8-15, through the mirror
        ld (8002h), a

        ld bc, 55DEh            ; OUT (C) with B = 0x55: row 7
        ld a, 07h
        out (c), a
        ld c, 0DCh
        in d, (c)               ; joystick byte A
        ld c, 0C0h
        in e, (c)               ; the same through the mirror
        ld c, 0DDh
        in h, (c)               ; joystick byte B
        ld (8003h), de
        ld a, h
        ld (8005h), a

        in a, (0DFh)            ; the control port reads 0xFF
        ld (8006h), a
        ld a, 77h
        in a, (0E0h)            ; nothing answers: 0x00
        ld (8007h), a
        ld a, 77h
        in a, (7Dh)
        ld (8008h), a
        in a, (7Eh)             ; V counter
        ld (8009h), a
        in a, (7Fh)             ; H counter
        ld (800Ah), a
        ld a, 0C3h              ; mode word to the control port: dropped
        out (0DFh), a
        in a, (0DEh)            ; still row 7's latch
        ld (800Bh), a

        ld a, 55h
        ld (1000h), a           ; cartridge area: read-only
        ld (8100h), a           ; RAM
        ld a, 0AAh
        ld (80FFh), a
done:   jr done

        ds 4000h - $, 0FFh
