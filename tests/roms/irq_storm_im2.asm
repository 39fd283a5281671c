; An interrupt storm in interrupt mode 2 (irq_storm.inc).
MODE equ 2
        include "irq_storm.inc"
